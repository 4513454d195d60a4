// The recipe editor window; placeholder until it lands.
