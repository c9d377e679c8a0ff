// Replaced by the command interpreter.
