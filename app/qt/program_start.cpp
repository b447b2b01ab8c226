#include "program_start.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <cstring>

bool TakeFirstArgument(const char* argument, char* path, size_t pathSize) {
  if (pathSize == 0) return false;
  path[0] = '\0';
  if (!argument) return false;
  const size_t length = std::strlen(argument);
  if (length + 1 > pathSize) return false;
  std::memcpy(path, argument, length + 1);
  return true;
}

std::string LocalPathFromUriList(const QByteArray& uriList) {
  for (const QByteArray& rawLine : uriList.split('\n')) {
    const QByteArray line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    QByteArray rest;
    if (line.startsWith("file:///")) {
      rest = line.mid(7);
    } else if (line.startsWith("file://localhost/")) {
      rest = line.mid(16);
    } else {
      continue;
    }
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    // A NUL would cut the path short and name another file.
    if (path.contains('\0')) continue;
    return path.toStdString();
  }
  return std::string();
}

namespace {

const QCommandLineOption kHelpOption(QStringList{"h", "help"}, "Show this help and exit.");
const QCommandLineOption kVersionOption(QStringList{"v", "version"}, "Show the version and exit.");

void DescribeOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "QUORVEL: a small, exact editor for glyph-metrics files (.fnt).");
  parser.addOption(kHelpOption);
  parser.addOption(kVersionOption);
  parser.addPositionalArgument("file", "The metrics file to open (optional).", "[--] [file]");
}

// The file among the arguments, by the same reading as the parser's: the first
// argument after "--", or the first that does not start with '-'.
const char* FileArgument(int argc, char** argv) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    if (!optionsEnded && std::strcmp(argv[i], "--") == 0) {
      optionsEnded = true;
    } else if (optionsEnded || argv[i][0] != '-') {
      return argv[i];
    }
  }
  return nullptr;
}

}  // namespace

ProgramOptions ParseProgramOptions(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  DescribeOptions(parser);
  ProgramOptions options;
  if (!parser.parse(arguments)) {
    options.action = ProgramOptions::Action::Error;
    options.error = parser.errorText().toStdString();
  } else if (parser.isSet(kHelpOption)) {
    options.action = ProgramOptions::Action::Help;
  } else if (parser.isSet(kVersionOption)) {
    options.action = ProgramOptions::Action::Version;
  } else if (parser.positionalArguments().size() > 1) {
    options.action = ProgramOptions::Action::Error;
    options.error = "more than one file given";
  } else {
    options.file = FileArgument(argc, argv);
  }
  return options;
}

bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* platform) {
  for (const char* variable : {display, waylandDisplay, platform}) {
    if (variable && variable[0] != '\0') return true;
  }
  return false;
}

std::string ProgramHelpText() {
  QCommandLineParser parser;
  DescribeOptions(parser);
  // Without a QCoreApplication the parser does not know the program's name.
  return parser.helpText().replace("<executable_name>", "quorvel").toStdString();
}
