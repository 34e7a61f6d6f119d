#include "network/DataModule.h"

TDataModule1 &TDataModule1::instance()
{
    static TDataModule1 module;
    return module;
}

void TDataModule1::FreshGraph(int) {}
