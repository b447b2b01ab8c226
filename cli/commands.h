// The subcommands of quorvel-cli, in up to three steps each: declare the options
// on a CLI::App, resolve them before any file is read, run on the loaded files.
// Their table is kSubcommands (subcommands.cpp); the dispatcher in quorvel_cli.cpp
// loads, reports a failed load and releases as each one's FileUse says, so that no
// command does it itself (but import --onto's second load of its file, held, once
// its data is read: locksAfterInput). Each subcommand keeps its own options in its
// own struct; CommandOptions holds them with the files the dispatcher loads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "font_measure.h"
#include "metrics_document.h"
#include "value_edit.h"

// Exit codes, as diff(1) has them: 1 is an answer (files differ, a check failed),
// 2 is an error (bad arguments, a file that cannot be read or written).
constexpr int kExitOk = 0;
constexpr int kExitNo = 1;
constexpr int kExitError = 2;

// Which metrics files a subcommand needs loaded before it runs. A file that fails
// to load is one line on stderr and exit 2, except for EachJudged.
enum class FileUse {
  None,        // reads no metrics file (new, import)
  One,         // CommandOptions::file (show, export, render)
  NamedOne,    // CommandOptions::file when one is named (import --onto)
  Two,         // file, then secondFile only when file loaded (diff)
  EachInTurn,  // runs once per file, each file once however often it is named; a
               // failed one does not stop the rest (set)
  EachJudged,  // runs once per file with its load result, loaded or not (check)
};

struct ShowOptions {
  std::vector<std::string> codeTexts;
  bool asJson = false;
  std::vector<uint8_t> codes;  // resolved from codeTexts: all codes when none given
};

struct SetOptions {
  std::string code, character, scopeName;
  std::string values[kEditedValueCount];
  std::string lineSpacing;
  bool relative = false;
  bool dryRun = false;
  bool verbose = false;
  // Resolved from the texts above.
  EditScope scope = EditScope::CurrentCode;
  uint8_t targetCode = 0;
  RecordEdit edit;
};

// Keeping a copy of a file before it is replaced: FILE~ by default.
struct BackupOptions {
  bool wanted = false;
  std::string suffix = "~";
};

struct CheckOptions {
  bool quiet = false;      // print only the files with findings
  bool recursive = false;  // a folder's subfolders too
  // Set by resolve: the folders that could not be read. The files found elsewhere
  // are still checked, and the run then ends with exit 2.
  size_t unreadableFolders = 0;
};

// measure: the options as typed, then the request and the font that resolve made of
// them; the font is opened once for all the files.
struct MeasureOptions {
  std::string font;
  int pixelSize = 0;
  std::vector<std::string> scopeNames, codeTexts, characters, samples;
  bool roundEdges = false;
  bool dryRun = false;
  MeasureRequest request;
  std::shared_ptr<FontFace> face;  // closed when the last copy goes
};

struct ExportOptions {
  std::string format = "json";  // json or csv
  bool byteOrderMark = false;   // csv: start with a UTF-8 BOM
};

struct ImportOptions {
  std::string dataInput;   // the JSON or CSV file, "-" for standard input
  std::string dataFormat;  // json or csv; empty: from the extension
  std::string output;      // the metrics file to build
  std::string onto;        // the metrics file to apply the data onto
  bool force = false;      // replace output when it exists
};

struct NewOptions {
  std::string output;  // the metrics file to create
  bool force = false;  // replace it when it exists
};

struct CompletionOptions {
  std::string shell;  // bash or zsh
};

// render: the options as typed, then the font that resolve opened: --font, else the
// first of the dialog's fonts installed, else none (boxes only).
struct RenderOptions {
  std::string text;    // UTF-8
  std::string output;  // the SVG file to write, "-" for standard output
  double scale = 1;
  std::string font;                // --font as typed, "" when not given
  std::shared_ptr<FontFace> face;  // nullptr when no font could be drawn with
};

// A subcommand's arguments once parsed: the files the dispatcher loads for it, and
// each subcommand's own options, of which only the running one's are used.
struct CommandOptions {
  std::string file, secondFile;    // FileUse::One, NamedOne and Two
  std::vector<std::string> files;  // FileUse::EachInTurn and EachJudged
  // Set by resolve when the run writes the loaded files back: each is then held
  // open and locked from its load to its release, so that parallel runs queue.
  bool writesLoadedFiles = false;
  // With writesLoadedFiles, for a run that first reads other input (import --onto,
  // whose data may come from a pipe that is slow to fill): the file is loaded
  // without its lock, and the run takes the lock itself once that input is read.
  bool locksAfterInput = false;
  BackupOptions backup;  // set, measure, import, new
  ShowOptions show;
  SetOptions set;
  MeasureOptions measure;
  ExportOptions exportAs;
  ImportOptions import;
  NewOptions newFile;
  CheckOptions check;
  RenderOptions render;
  CompletionOptions completion;
};

// What the dispatcher loaded for one run of a subcommand.
struct LoadedFiles {
  MetricsDocument docs[2];     // One, EachInTurn: docs[0]; Two: docs[0] and docs[1];
                               // NamedOne: docs[0], then docs[1] held (locksAfterInput)
  const char* path = nullptr;  // EachInTurn, EachJudged: the file of this run (as named)
  LoadResult load;             // EachJudged: how its load went
  std::string loadFailure;     // EachJudged: why it did not load, in words
};

// Each subcommand's steps, as the table in quorvel_cli.cpp names them.
void DeclareShow(CLI::App& app, CommandOptions& options);
bool ResolveShowCodes(const CLI::App& app, CommandOptions& options);
int RunShow(const CommandOptions& options, LoadedFiles& loaded);
void DeclareSet(CLI::App& app, CommandOptions& options);
bool ResolveSetEdit(const CLI::App& app, CommandOptions& options);
int RunSet(const CommandOptions& options, LoadedFiles& loaded);
void DeclareExport(CLI::App& app, CommandOptions& options);
int RunExport(const CommandOptions& options, LoadedFiles& loaded);
void DeclareImport(CLI::App& app, CommandOptions& options);
bool ResolveImport(const CLI::App& app, CommandOptions& options);
int RunImport(const CommandOptions& options, LoadedFiles& loaded);
void DeclareDiff(CLI::App& app, CommandOptions& options);
int RunDiff(const CommandOptions& options, LoadedFiles& loaded);
void DeclareNew(CLI::App& app, CommandOptions& options);
int RunNew(const CommandOptions& options, LoadedFiles& loaded);
void DeclareCheck(CLI::App& app, CommandOptions& options);
bool ResolveCheck(const CLI::App& app, CommandOptions& options);
int RunCheck(const CommandOptions& options, LoadedFiles& loaded);
void DeclareRender(CLI::App& app, CommandOptions& options);
bool ResolveRender(const CLI::App& app, CommandOptions& options);
int RunRender(const CommandOptions& options, LoadedFiles& loaded);
void DeclareCompletion(CLI::App& app, CommandOptions& options);
int RunCompletion(const CommandOptions& options, LoadedFiles& loaded);
void DeclareMeasure(CLI::App& app, CommandOptions& options);
bool ResolveMeasure(const CLI::App& app, CommandOptions& options);
int RunMeasure(const CommandOptions& options, LoadedFiles& loaded);

// Opens the FONT of "command --font FONT" (a font file or an installed family, as
// OpenFontFace takes it); false after one error line naming the font file, or the
// option as typed when no file was found.
bool OpenFontOption(const std::string& command, const std::string& font, FontFace* face);
