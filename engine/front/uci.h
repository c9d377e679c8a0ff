// UCI dialogue.
#pragma once

#include <string>

// The UCI "go" command (the go and move rows under the UCI dialogue).
int uci_go(const std::string& arg);
