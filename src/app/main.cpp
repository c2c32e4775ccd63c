#include "app/App.h"
#include "app/ConsoleMessageOutput.h"
#include "app/FileHelperLoader.h"
#include "app/FileHelperSaver.h"
#include "platform/errorresources/OutOfMemoryHandler.h"
#include "platform/win32/Console.h"
#include "platform/win32/Utf8ConsoleOutput.h"

using namespace com::quorvane::products::lumeno;

int main(int argc, char** argv) {
    ThrowingOutOfMemoryHandler outOfMemoryHandler;
    OutOfMemoryHandler::install(&outOfMemoryHandler);
    platform::useBinaryStandardOutput();
    platform::Utf8ConsoleOutput utf8Console;

    ConsoleMessageOutput output;
    FileHelperLoader loader;
    FileHelperSaver saver;
    return App::run(argc, argv, output, loader, saver);
}
