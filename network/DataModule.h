#pragma once
// The shared data module: construction of a task's inference network into TVER and TREB.

class TDataModule1 {
public:
    static TDataModule1 &instance();

    // Rebuilds the network tables of a task from its goal entity.
    void FreshGraph(int taskId);
};
