#pragma once

// Whether Corvanta may ask a file manager for its selection.
enum class AutomationStatus { granted, denied, notDetermined, unavailable };
