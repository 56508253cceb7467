// Start of the program: the headless command line, or the splash, the frame and the
// files named on the command line.
#pragma once

namespace velmora {
// Sets up the application object the program's way (name, French, fonts).
void configureApplication();
// The windows' font (12-pixel sans serif), once the application object exists.
void configureInterfaceFont();
int main(int argc, char **argv);
} // namespace velmora
