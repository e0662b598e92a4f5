#pragma once

#include <QString>

// The words of the result log file around the run's log. The engine writes the file but does not
// word it: the layer above, which knows the language, supplies them.
class ResultLogText {
public:
    virtual ~ResultLogText() = default;
    // The rule, the target line and the rule again, then an empty line; every line CR LF.
    virtual QString Header(const QString &driveText) const = 0;
    // An empty line, then the version line.
    virtual QString Trailer() const = 0;
};
