// Filled by the print-layout engine.
