// What the command line needs to know of the terminal, and a thread kept out of signals.
#pragma once

#include <functional>
#include <thread>

namespace cli {

// Whether standard output is a terminal.
bool StandardOutputIsTerminal();

// The width of the terminal standard output goes to, in columns; 80 when it cannot be told.
int StandardOutputColumns();

// A thread that never takes a signal: the signals of the program stay with its main thread,
// where an interrupt must reach a prompt that waits for an answer.
std::thread StartThreadWithoutSignals(std::function<void()> work);

}  // namespace cli
