// The full form of a path: relative paths are taken against a base folder (or
// the current directory of the file-access table in force), "." and ".." are
// resolved, and separators become backslashes. Shift-JIS two-byte characters
// are kept whole: a trail byte is never a separator.
//
// The output holds MAX_PATH characters with its terminator; a result that does
// not fit is refused (-1, output empty).
#pragma once

// Writes the full form of `path` (or, for a null path, the base itself) into
// `output`. A leading double separator keeps the UNC form; a trailing "." or
// ".." stays as a name. 0, or -1 when the result does not fit.
int ToFullPath(const char* path, char* output, const char* baseFolder);
// As ToFullPath, but a leading double separator is one separator, a leading
// slash names the base's drive, a slash may follow "X:", and an empty
// component makes the result -1.
int ToFullPathStrict(const char* path, char* output, const char* baseFolder);
