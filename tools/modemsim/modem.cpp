#include "modem.h"

#include <cctype>
#include <cstdio>

namespace kelvo {

namespace {

constexpr size_t kMaxLine = 255;
constexpr char kBackspace = 8;

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A decimal number at pos (none: -1); pos moves past it.
int Number(const std::string& s, size_t& pos) {
  if (pos >= s.size() || !IsDigit(s[pos])) return -1;
  int value = 0;
  while (pos < s.size() && IsDigit(s[pos]) && value < 100000) value = value * 10 + (s[pos++] - '0');
  return value;
}

}  // namespace

void TModemOutput::Add(bool isAnswer, const std::string& bytes) {
  if (bytes.empty()) return;
  (isAnswer ? Answer : Echo) += bytes;
  if (Parts.empty() || Parts.back().IsAnswer != isAnswer)
    Parts.push_back({isAnswer, bytes});
  else
    Parts.back().Bytes += bytes;
}

TModemSimulator::TModemSimulator(TModemOptions options) : FOptions(std::move(options)) {
  Reset();
}

void TModemSimulator::Reset() {
  FEcho = true;
  FVerbose = true;
  FQuiet = false;
  for (int& r : FRegisters) r = 0;
  FRegisters[3] = 13;  // command line end: CR
  FRegisters[4] = 10;  // LF
  FRegisters[5] = kBackspace;
}

TModemOutput TModemSimulator::Receive(std::string_view bytes, uint32_t lineSpeed) {
  TModemOutput out;
  // At another speed than its own the modem sees only garbage: it neither echoes nor answers.
  if (FOptions.Silent || (FOptions.AnswerSpeed && *FOptions.AnswerSpeed != lineSpeed)) {
    FLine.clear();
    return out;
  }
  for (char c : bytes) {
    if (FEcho) out.Add(false, std::string(1, c));
    if (c == static_cast<char>(FRegisters[3])) {
      std::string line;
      line.swap(FLine);
      out.Add(true, Execute(line));
    } else if (c == static_cast<char>(FRegisters[5])) {
      if (!FLine.empty()) FLine.pop_back();
    } else if (c == static_cast<char>(FRegisters[4]) && FLine.empty()) {
      // The LF of a CR LF line end.
    } else if (FLine.size() < kMaxLine) {
      FLine += c;
    }
  }
  return out;
}

// A command line: "AT" followed by commands, spaces ignored; "A/" repeats the last line.
std::string TModemSimulator::Execute(const std::string& raw) {
  std::string line;
  for (char c : raw)
    if (c != ' ' && c != '\n') line += c;
  if (line.size() >= 2 && Upper(line[0]) == 'A' && line[1] == '/') line = FLastCommand;
  if (line.size() < 2 || Upper(line[0]) != 'A' || Upper(line[1]) != 'T') return {};
  FLastCommand = line;
  std::string info;
  TResult result = rcOk;
  for (size_t pos = 2; pos < line.size();) {
    if (!Command(line, pos, info, result)) {
      result = rcError;
      break;
    }
  }
  if (result == rcError) info.clear();
  return info + ResultCode(result);
}

bool TModemSimulator::Command(const std::string& line, size_t& pos, std::string& info, TResult& result) {
  const char c = Upper(line[pos++]);
  if (c == '&') {
    if (pos >= line.size()) return false;
    const char k = Upper(line[pos++]);
    int n = Number(line, pos);
    if (k == 'F') Reset();
    if (k == 'Z' && pos < line.size() && line[pos] == '=') {
      pos = line.size();  // &Zn=number stores a number to dial: the rest of the line
      return true;
    }
    return k == 'F' || k == 'C' || k == 'D' || k == 'K' || k == 'W' || k == 'S' || k == 'Q' ||
           (k == 'V' && n < 0);
  }
  if (c == '+') {
    // An extended command (+IPR=9600, +MS?, ...) runs to the next ';' or the end of the line.
    size_t end = line.find(';', pos);
    pos = end == std::string::npos ? line.size() : end + 1;
    return true;
  }
  if (c == 'S') return Register(line, pos, info);
  if (c == 'D') {
    pos = line.size();  // the rest of the line is the number to dial
    result = rcNoCarrier;
    return true;
  }
  const int n = Number(line, pos);
  switch (c) {
    case 'E':
      FEcho = n == 1;
      return n <= 1;
    case 'V':
      FVerbose = n == 1;
      return n <= 1;
    case 'Q':
      FQuiet = n == 1;
      return n <= 1;
    case 'Z':
      Reset();
      return n <= 1;
    case 'I':
      info += InfoText(FOptions.Ident);
      return true;
    case 'P':  // pulse and tone dialling
    case 'T':
    case 'H':
    case 'L':
    case 'M':
    case 'X':
    case 'B':
    case 'N':
    case 'W':
      return true;
    default:
      return false;
  }
}

// Sn=v sets a register, Sn? shows it, Sn alone selects it (accepted, no effect).
bool TModemSimulator::Register(const std::string& line, size_t& pos, std::string& info) {
  int reg = Number(line, pos);
  if (reg < 0 || reg >= 100) return false;
  if (pos < line.size() && line[pos] == '=') {
    ++pos;
    int value = Number(line, pos);
    if (value < 0 || value > 255) return false;
    FRegisters[reg] = value;
    return true;
  }
  if (pos < line.size() && line[pos] == '?') {
    ++pos;
    char text[8];
    std::snprintf(text, sizeof text, "%03d", FRegisters[reg]);
    info += InfoText(text);
  }
  return true;
}

std::string TModemSimulator::InfoText(const std::string& text) const {
  return FVerbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

std::string TModemSimulator::ResultCode(TResult result) const {
  if (FQuiet) return {};
  static const char* const kVerbose[] = {"OK", "CONNECT", "RING", "NO CARRIER", "ERROR"};
  std::string blank;
  for (int i = 0; i < FOptions.BlankLines; ++i) blank += "\r\n";
  const std::string cr(1, static_cast<char>(FRegisters[3]));
  const std::string lf(1, static_cast<char>(FRegisters[4]));
  if (!FVerbose) return blank + std::to_string(result) + (FOptions.NoTrailingCR ? "" : cr);
  return blank + cr + lf + kVerbose[result] + (FOptions.NoTrailingCR ? "" : cr + lf);
}

}  // namespace kelvo
