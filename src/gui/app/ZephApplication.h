#pragma once

// Start-up and exit of the desktop program.
class ZephApplication
{
public:
    static int Run(int argc, char* argv[]);
};
