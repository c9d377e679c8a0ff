int engine_main(int argc, char** argv);

int main(int argc, char** argv) { return engine_main(argc, argv); }
