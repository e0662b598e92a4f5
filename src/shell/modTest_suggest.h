#pragma once

#include <QString>
#include <cstdint>

class QWidget;

// The value proposal: a file count and size that together fill a target's free space.
namespace modTest {

struct Proposal {
    std::int32_t free = 0; // MB
    std::int32_t files = 0;
    std::int32_t megabytes = 0;
};

// The proposal for a free space given as the chain's decimal MB text.
Proposal ProposeValues(const QString &freeMB);

// The question shown to the user, in the language of the loaded table.
QString ProposalMessage(const QString &path, const Proposal &proposal);

// Measures the target, asks, and on Yes gives the proposal; otherwise both outputs are -1.
void SuggestValues(std::int32_t &files, std::int32_t &megabytes, const QString &path, QWidget *parent = nullptr);
// The same for a free space already measured.
void SuggestValuesFor(std::int32_t &files, std::int32_t &megabytes, const QString &path, const QString &freeMB,
                      QWidget *parent = nullptr);

} // namespace modTest
