// Process entry: the single-instance lock, mode selection and the console modes.
#pragma once

// Exit codes: 0 done, 1 input or conversion refused, 2 argument error,
// 3 another instance holds the lock.
int RunProgram(int argc, char** argv);
