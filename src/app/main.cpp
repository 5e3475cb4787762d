#include "app/PlayerMain.h"
#include "platform/ProgramPath.h"

int main(int argc, char** argv)
{
    return kelva::RunPlayer(kelva::ProgramPath(), std::vector<std::string>(argv + 1, argv + argc));
}
