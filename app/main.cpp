#include "app/Application.h"

int main(int argc, char** argv) {
    return orvj::runApplication(argc, argv);
}
