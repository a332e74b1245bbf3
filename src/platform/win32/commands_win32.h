// A command on Windows: the profile functions write every key straight into its
// file, truncating and rewriting it, so a command guards the files it touches
// until it ends (commands_win32.cpp tells how). Used by the profile and copy calls.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::win32 {

// Before a read of `file`: empty, or why it must not be opened at all (a FIFO,
// a device). The command's first touch of a file locks its folder and puts back
// what a killed command left.
std::string BeforeRead(const std::string& file);

// Before a write of `file`: empty, or why it must not be written. The command's
// first write keeps the file as it was beside it.
std::string BeforeWrite(const std::string& file);

// A call made outside any command is a command of its own.
class OwnCommand {
 public:
  OwnCommand();
  OwnCommand(const OwnCommand&) = delete;
  OwnCommand& operator=(const OwnCommand&) = delete;
  ~OwnCommand();
  // Ends it now: what EndCommand says, nothing inside an enclosing command.
  std::vector<SaveFailure> End();

 private:
  bool own_;
};

}  // namespace platform::win32
