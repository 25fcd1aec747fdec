#pragma once

// Whether a screen reader is running (the accessibility bus reports it on Linux).
class ScreenReader {
public:
    virtual ~ScreenReader() = default;
    virtual bool isScreenReaderEnabled() const = 0;
};
