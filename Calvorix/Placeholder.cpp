// Filled by the expression library.
