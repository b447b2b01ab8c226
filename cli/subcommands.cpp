#include "subcommands.h"

const Subcommand kSubcommands[] = {
    {"show", "show the line spacing and the values of codes", FileUse::One, DeclareShow,
     ResolveShowCodes, RunShow},
    {"set", "set values of a code or a class, as the editor's change command", FileUse::EachInTurn,
     DeclareSet, ResolveSetEdit, RunSet},
    {"measure", "set values from a font's glyphs, measured with FreeType", FileUse::EachInTurn,
     DeclareMeasure, ResolveMeasure, RunMeasure},
    {"export", "write a file as JSON (every byte) or CSV", FileUse::One, DeclareExport, nullptr,
     RunExport},
    {"import", "build a file from JSON, or apply JSON or CSV onto a file", FileUse::NamedOne,
     DeclareImport, ResolveImport, RunImport},
    {"diff", "list the values that differ between two files", FileUse::Two, DeclareDiff, nullptr,
     RunDiff},
    {"new", "create a file with every value zero", FileUse::None, DeclareNew, nullptr, RunNew},
    {"check", "check files and folders for faults in their values", FileUse::EachJudged,
     DeclareCheck, ResolveCheck, RunCheck},
    {"render", "draw text laid out with a file's metrics as SVG", FileUse::One, DeclareRender,
     ResolveRender, RunRender},
    {"completion", "print a completion script for bash or zsh", FileUse::None, DeclareCompletion,
     nullptr, RunCompletion},
};

const size_t kSubcommandCount = sizeof kSubcommands / sizeof kSubcommands[0];
