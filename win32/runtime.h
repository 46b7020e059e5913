// The stub is built without exceptions: memory running out ends in a handler
// the program sets, which reports it and ends the run.
#pragma once

namespace sorvela::win32 {

// The handler does not return; a second failure inside it ends the process
// with the failed install's exit code.
void OnOutOfMemory(void (*handler)());

}  // namespace sorvela::win32
