#include "backup.h"

#include "backup_file.h"
#include "file_io.h"
#include "report.h"

namespace {

// A suffix makes a name in the same folder: never empty, never a path.
std::string CheckSuffix(const std::string& suffix) {
  if (suffix.empty()) return "the suffix must not be empty";
  if (suffix.find('/') != std::string::npos) return "the suffix must not contain \"/\"";
  return std::string();
}

// Reports a backup that failed, with the system's reason.
bool ReportBackupResult(bool done, const std::string& path, const std::string& backupPath) {
  if (done) return true;
  std::string reason = LastFileError() != 0 ? LastFileErrorText() : "the write stopped short";
  ReportError(path, "cannot back up to " + backupPath + ": " + reason);
  return false;
}

}  // namespace

void DeclareBackupOptions(CLI::App& app, BackupOptions& options) {
  app.add_flag("--backup", options.wanted, "keep a copy of the file as FILE~ before replacing it");
  // Naming a suffix asks for the backup too.
  app.add_option_function<std::string>(
         "--suffix",
         [&options](const std::string& suffix) {
           options.suffix = suffix;
           options.wanted = true;
         },
         "the backup's suffix instead of \"~\" (implies --backup)")
      ->type_name("S")
      ->check(CLI::Validator(CheckSuffix, ""));
}

bool BackUpBeforeReplacing(const BackupOptions& options, const std::string& path) {
  PathKind kind = GetPathKind(path.c_str());
  if (!options.wanted || (kind != PathKind::RegularFile && kind != PathKind::LinkedFile)) {
    return true;
  }
  std::string backupPath = path + options.suffix;
  return ReportBackupResult(BackUpFile(path.c_str(), backupPath.c_str()), path, backupPath);
}

bool BackUpBeforeReplacing(const BackupOptions& options, const std::string& path,
                           const MetricsDocument& loaded) {
  if (!options.wanted) return true;
  std::string backupPath = path + options.suffix;
  bool done = BackUpFileBytes(loaded.file, loaded.image, loaded.fileSize, backupPath.c_str());
  return ReportBackupResult(done, path, backupPath);
}

bool SaveLoadedFile(const BackupOptions& options, const std::string& path, MetricsDocument& doc,
                    const uint8_t* edited) {
  // From the loaded bytes: the file is held locked since its load, so they are its bytes.
  if (!BackUpBeforeReplacing(options, path, doc)) return false;
  SaveResult saved = SaveEditedImage(doc, edited);
  if (saved.status == SaveStatus::Saved) return true;
  ReportError(path, SaveFailureReason(saved));
  return false;
}
