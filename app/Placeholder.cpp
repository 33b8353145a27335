// Filled by the main program.
