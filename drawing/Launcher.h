// Starts an outside program through the shell.
#pragma once

#include <string>

namespace skadra {

// Asks the shell to open FileName with Params in the folder DefaultDir (empty texts as empty
// strings), with the default verb, the main window as owner and ShowCmd as the show command.
// What the shell answers is not looked at: a program that does not start says nothing.
void LaunchFile(const std::string& FileName, const std::string& Params, const std::string& DefaultDir, int ShowCmd);

}  // namespace skadra
