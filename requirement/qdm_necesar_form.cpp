// The requirement sheet window; placeholder until it lands.
