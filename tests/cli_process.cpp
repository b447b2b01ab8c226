#include "cli_process.h"

#include <stdexcept>

std::FILE* TemporaryFileWith(const std::string& text) {
  std::FILE* file = std::tmpfile();
  if (!file) throw std::runtime_error("no temporary file");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
  std::rewind(file);
  return file;
}

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

::testing::AssertionResult IsOneLineError(const CliResult& result,
                                          const std::vector<std::string>& mentions) {
  auto failure = [&](const std::string& why) {
    return ::testing::AssertionFailure()
           << why << "\n  exit " << result.exitCode << "\n  stdout: " << result.out
           << "\n  stderr: " << result.err;
  };
  if (result.exitCode != 2) return failure("exit code is not 2");
  if (!result.out.empty()) return failure("standard output is not empty");
  if (Lines(result.err).size() != 1 || result.err.back() != '\n')
    return failure("not one line on stderr");
  for (const std::string& mention : mentions) {
    if (result.err.find(mention) == std::string::npos)
      return failure("stderr lacks \"" + mention + "\"");
  }
  return ::testing::AssertionSuccess();
}
