// Kestrun: the laboratory image-analysis workstation.

#include "app/kestrunapp.h"

int main(int argc, char** argv)
{
    CKestrunApp app;
    return kestrun::RunApplication(argc, argv);
}
