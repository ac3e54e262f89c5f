#pragma once
// Faults of the disk under a save, for the tests that prove a failed save loses nothing: a disk
// file whose writes stop after a budget of bytes, and a rename that fails on demand. Link
// cobble_test_save_faults: its rename stands in front of the C library's in the test program.

#include "core/iPhoneFile.h"

// A disk file whose writes, all together, move at most `budget` bytes; a write cut short reports
// -1, as a full disk does.
class CFailingDiskFile : public CiPhoneFile {
public:
    explicit CFailingDiskFile(long budget) : m_Budget(budget) {}
    int WriteData(const void* data, int count) override {
        const long take = count < m_Budget ? count : m_Budget;
        m_Budget -= take;
        const int moved = take > 0 ? CiPhoneFile::WriteData(data, static_cast<int>(take)) : 0;
        return moved < count ? -1 : moved;
    }

private:
    long m_Budget;
};

// While set, every rename() of the test program fails with EIO.
void SetRenameFails(bool fails);
