#pragma once

#include "engine/ValueProposal.h"

#include <QString>
#include <cstdint>

class QWidget;

// The value proposal offered to the user.
namespace modTest {

// The question shown to the user, in the language of the loaded table.
QString ProposalMessage(const QString &path, const Proposal &proposal);

// Measures the target, asks, and on Yes gives the proposal; otherwise both outputs are -1.
void SuggestValues(std::int32_t &files, std::int32_t &megabytes, const QString &path, QWidget *parent = nullptr);
// The same for a free space already measured.
void SuggestValuesFor(std::int32_t &files, std::int32_t &megabytes, const QString &path, const QString &freeMB,
                      QWidget *parent = nullptr);

} // namespace modTest
