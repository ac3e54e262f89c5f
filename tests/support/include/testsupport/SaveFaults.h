#pragma once
// Faults of the disk under a save, for the tests that prove a failed save loses nothing: a disk
// file whose writes stop after a budget of bytes, a rename and an fsync that fail on demand, and a
// journal of the renames and flushes a save makes. Link cobble_test_save_faults: its rename and
// fsync stand in front of the C library's in the test program.

#include <string>
#include <vector>

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
// While set, every fsync() of the test program fails with EIO.
void SetFsyncFails(bool fails);

// Starts recording every rename() and fsync() of the test program, in order, as
// "rename <from> -> <to>" and "fsync <path of the descriptor>"; Stop returns the lines and ends it.
void StartFileJournal();
std::vector<std::string> StopFileJournal();
