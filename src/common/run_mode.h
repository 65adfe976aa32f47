#pragma once
// The two ways a process runs, fixed at start-up from its command line.

enum class RunMode { Init, Player };
