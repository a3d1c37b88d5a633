#pragma once

#include <string>

namespace marlowen {

// The parts of a Windows path: the name after the last "\" (or ":"), and the folder before it
// with its trailing "\" ("" when the path has no folder).
std::string ExtractFileName(const std::string& path);
std::string ExtractFilePath(const std::string& path);
// The name without its extension ("Setup" for "C:\Setup\Setup.exe"; ".profile" stays whole).
std::string ExtractFileTitle(const std::string& path);
// The folder before the name without its trailing "\" ("C:\Setup" for "C:\Setup\Setup.exe"),
// except a drive's root, which keeps it ("D:\" for "D:\Setup.exe": "D:" alone would name the
// drive's current folder).
std::string ExtractFileDir(const std::string& path);

// `folder` + "\" + `name`, without doubling a "\" that ends the folder ("D:\" + "x" is "D:\x").
std::string JoinPath(const std::string& folder, const std::string& name);

// Every guard that compares paths does it on this form, so that no spelling gets past it:
// "/" read as "\", runs of "\" collapsed, "." and ".." resolved (never above the root), the
// trailing dots and spaces Windows ignores dropped from each part (a part of dots only other than
// ".." is then the folder itself), no trailing "\" except the root's own ("C:\"). "\\?\C:\x",
// "\\.\C:\x" and "\\?\UNC\server\share\x" become "C:\x" and "\\server\share\x". Letter case is kept;
// a relative path keeps the ".." it cannot resolve.
std::string NormalizePath(const std::string& path);
// True for a path from a drive's root ("C:\...") or a share ("\\server\share..."); "C:x", "\x"
// and relative paths depend on the current folder and are not.
bool IsAbsolutePath(const std::string& path);
// True for an absolute path with at least one part below its drive's or share's root.
bool IsBelowRoot(const std::string& path);
// Whether two paths name the same entry: normalised, compared without regard to ASCII letter case.
bool SamePath(const std::string& a, const std::string& b);
// Whether `path` is `folder` or lies inside it (normalised, ASCII letter case ignored). False
// unless both are absolute.
bool IsPathInside(const std::string& path, const std::string& folder);
// Whether a path that is joined to a folder stays inside that folder: not rooted ("\x", "\\x"),
// no drive or stream (":"), no part made of dots and spaces only ("." , "..", ". ."), no device
// name ("NUL", "COM1.txt", ...) and no character Windows refuses in names. "" and "a\b\" are fine.
bool IsContainedPath(const std::string& relative);

}  // namespace marlowen
