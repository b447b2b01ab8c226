#include "arguments.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"

namespace {

// CLI11 reads "--width=" as "--width" and then takes the next argument as the
// value, even another option or a file name. An empty text after "=" is meant as
// the empty text, so it is passed as a separate empty argument.
std::vector<std::string> ArgumentsWithEmptyValuesSplit(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    size_t equals = argument.find('=');
    bool emptyValue =
        argument.size() > 3 && argument.compare(0, 2, "--") == 0 && equals == argument.size() - 1;
    if (emptyValue) {
      arguments.push_back(argument.substr(0, equals));
      arguments.push_back(std::string());
    } else {
      arguments.push_back(argument);
    }
  }
  return arguments;
}

}  // namespace

ArgumentsResult ParseArguments(CLI::App& app, int argc, char** argv) {
  std::vector<std::string> arguments = ArgumentsWithEmptyValuesSplit(argc, argv);
  std::reverse(arguments.begin(), arguments.end());  // CLI11 takes a vector last first
  // CLI11 on Windows would take "/name" for an option; here, as on POSIX, options
  // start with "-" and "/work/a.fnt" is a path.
  app.allow_windows_style_options(false);
  try {
    app.parse(arguments);
    return ArgumentsResult::Parsed;
  } catch (const CLI::CallForVersion& version) {
    std::printf("%s\n", version.what());
    return ArgumentsResult::Answered;
  } catch (const CLI::Success&) {  // --help
    std::string help = app.help();
    if (help.empty() || help.back() != '\n') help += '\n';  // CLI11 ends on the footer's last line
    std::fputs(help.c_str(), stdout);
    return ArgumentsResult::Answered;
  } catch (const CLI::ParseError& error) {
    // CLI11's own report spans two lines; ours is one, naming where to look.
    std::fprintf(stderr, "%s: %s (see %s --help)\n", app.get_name().c_str(), error.what(),
                 app.get_name().c_str());
    return ArgumentsResult::Failed;
  }
}

int ExitCodeOf(ArgumentsResult result) {
  return result == ArgumentsResult::Answered ? kExitOk : kExitError;
}
