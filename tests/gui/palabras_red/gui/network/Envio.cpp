QString Ping() { return "Ping"; }
