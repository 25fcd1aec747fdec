#pragma once

#include "core/history/RoutingHistoryEntry.h"
#include "core/routing/FileDecider.h"

#include <QString>

class RuleDescriptions;

// The words of "Show Why…": what was decided when the file was routed, and what
// routing would decide for it now (as `corvanta explain` does).
namespace WhyRoutedText {
QString recorded(const RoutingHistoryEntry& entry);
QString now(const FileDecision& decision, const RuleDescriptions& descriptions);
} // namespace WhyRoutedText
