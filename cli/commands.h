// The subcommands of quorvel-cli. Each reads its own arguments (argv[0] is the
// subcommand's name) and returns the process exit code.
#pragma once

// Exit codes, as diff(1) has them: 1 is an answer (files differ, a check failed),
// 2 is an error (bad arguments, a file that cannot be read or written).
constexpr int kExitOk = 0;
constexpr int kExitNo = 1;
constexpr int kExitError = 2;

int RunShow(int argc, char** argv);
int RunSet(int argc, char** argv);
int RunExport(int argc, char** argv);
int RunImport(int argc, char** argv);
int RunDiff(int argc, char** argv);
int RunNew(int argc, char** argv);
int RunCheck(int argc, char** argv);
