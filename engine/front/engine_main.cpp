int engine_main(int, char**) { return 0; }
