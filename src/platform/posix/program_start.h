// A program started by another: what the dynamic loader says of one that could
// not start, read so that the user is told which library is missing rather than
// shown the loader's English; and whose folder the started one counts as its own.
#pragma once

#include <string>

namespace platform::posix {

// The first library that a listing of LD_TRACE_LOADED_OBJECTS marks
// "=> not found"; empty when none is.
std::string MissingLibraryInTrace(const std::string& trace);

// The library a loader's "cannot open shared object file" error names; empty
// when the words are about something else.
std::string MissingLibraryInError(const std::string& words);

// The loader's words on one line: the program's own path no longer in front,
// lines joined by "; ", cut (between characters) past a few hundred bytes.
std::string LoaderWords(const std::string& words, const std::string& path);

// The executable whose folder ProgramFolder gives (empty: this one's).
void SetStarter(const std::string& executable);

}  // namespace platform::posix
