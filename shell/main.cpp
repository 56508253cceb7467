#include "shell/ui/application.h"

int main(int argc, char **argv) { return velmora::main(argc, argv); }
