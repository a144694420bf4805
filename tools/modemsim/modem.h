// The command interpreter of the modem simulator: a Hayes-style modem that echoes what it
// receives, answers "AT" command lines with result codes, and can be told to answer only at one
// line speed, to stay silent, or to shape its answers (no final CR, extra blank lines).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct TModemOptions {
  std::optional<uint32_t> AnswerSpeed;  // answer only while the line runs at this speed
  bool Silent = false;                  // neither echo nor answers
  bool NoTrailingCR = false;            // result codes without the line end that closes them
  int BlankLines = 0;                   // extra empty lines before each result code
  std::string Ident = "Kelvo modem simulator 1.0";
};

// What the modem sends back for some received bytes: the echo goes out at once, each answer after
// the simulator's delay. Parts keeps them in the order of the line: echo, answer, echo, ...
struct TModemOutput {
  struct TPart {
    bool IsAnswer;
    std::string Bytes;
  };
  std::string Echo;    // all echoed bytes
  std::string Answer;  // all answers
  std::vector<TPart> Parts;

  void Add(bool isAnswer, const std::string& bytes);
};

class TModemSimulator {
 public:
  explicit TModemSimulator(TModemOptions options = {});

  // Bytes received at the given line speed (bits per second).
  TModemOutput Receive(std::string_view bytes, uint32_t lineSpeed);

  bool Echo() const { return FEcho; }
  bool Verbose() const { return FVerbose; }
  bool Quiet() const { return FQuiet; }

 private:
  enum TResult { rcOk = 0, rcConnect = 1, rcRing = 2, rcNoCarrier = 3, rcError = 4 };

  void Reset();
  std::string Execute(const std::string& line);
  // One command of a line, starting at pos; false for a command the modem does not accept.
  bool Command(const std::string& line, size_t& pos, std::string& info, TResult& result);
  bool Register(const std::string& line, size_t& pos, std::string& info);
  std::string InfoText(const std::string& text) const;
  std::string ResultCode(TResult result) const;

  TModemOptions FOptions;
  bool FEcho = true;
  bool FVerbose = true;
  bool FQuiet = false;
  int FRegisters[100] = {};
  std::string FLine;
  std::string FLastCommand;
};

}  // namespace kelvo
