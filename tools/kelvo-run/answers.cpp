#include "answers.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/cp1251.h"
#include "text/exception.h"

namespace kelvo {

std::vector<std::string> ReadAnswersFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw Exception(Utf8ToAnsi("cannot read the answers file " + path + ": " + std::strerror(errno)));
  std::vector<std::string> answers;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    answers.push_back(Utf8ToAnsi(line));
  }
  if (file.bad()) throw Exception(Utf8ToAnsi("cannot read the answers file " + path));
  return answers;
}

std::optional<std::string> PortAnswersFile(const std::string& dir, const std::string& port) {
  std::filesystem::path name = std::filesystem::path(port).filename();
  if (name.empty()) return std::nullopt;
  std::filesystem::path file = std::filesystem::path(dir) / name;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  return file.string();
}

}  // namespace kelvo
