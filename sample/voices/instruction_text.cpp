// Prints one instruction screen of the on-screen test as plain text, for speech synthesis:
//   orvj-instruction-text English|Spanish 0..5
#include "session/InstructionTexts.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: orvj-instruction-text English|Spanish SCREEN\n";
        return 2;
    }
    const std::string language = argv[1];
    const int screen = std::stoi(argv[2]);
    if (screen < 0 || screen >= orvj::InstructionTexts::kScreenCount) {
        std::cerr << "screen must be 0 to 5\n";
        return 2;
    }
    std::string text = orvj::InstructionTexts::text(language == "Spanish", screen);
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out.push_back(c);
        }
    }
    std::cout << out << '\n';
    return 0;
}
