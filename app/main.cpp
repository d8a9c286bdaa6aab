#include "app/Application.h"
#include "store/platform/File.h"

int main(int argc, char** argv) {
    // What the program writes holds client names: private unless a folder shares it.
    orvj::platform::restrictNewFileModes();
    return orvj::runApplication(argc, argv);
}
