// Whole-file reads and crash-safe rewrites of small text files (registry file, ini files): a new
// content is written to a temporary file in the same folder and renamed over the old one, so a
// reader sees either the old file or the new one, never a half-written file.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace platform::internal {

enum class ReadStatus { Ok, Missing, Failed };

// Missing: the file does not exist. Failed: it exists but cannot be read (or is a directory).
ReadStatus readWholeFile(const std::string& path, std::string& content);

// Replaces the file's content atomically. An existing file keeps its permission bits (and owner
// when allowed); a new file is created with newFileMode less the umask. A symbolic link is
// followed so the link stays a link. false when anything failed (also when the existing file is
// not writable for this process); the file is then untouched and no temporary file is left.
bool replaceFile(const std::string& path, const std::string& content, mode_t newFileMode);

enum class EditResult { Write, Keep, Refuse };

// Read-modify-write under an advisory lock on the file's folder, so that writers of this program
// in other processes (and threads) do not lose each other's changes: the edit is applied to the
// content read under the lock. The editor receives the status of the read and the content (empty
// when missing) and edits it in place. Returns true when the editor kept the file as it was or the
// new content was written; false when the editor refused, the read failed or the write failed.
using FileEditor = std::function<EditResult(ReadStatus status, std::string& content)>;
bool editFile(const std::string& path, const FileEditor& editor, mode_t newFileMode);

// Creates a folder and its missing parents (mode 0700 less the umask). true when it exists after.
bool makeDirectories(const std::string& path);

// The folder part of a path ("." for a bare name).
std::string parentFolder(const std::string& path);

}  // namespace platform::internal
