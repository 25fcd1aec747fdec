#pragma once

#include "core/platform/AccessibilitySelection.h"
#include "core/platform/FileManagerSelection.h"
#include "core/platform/FrontmostApplication.h"
#include "core/platform/SelectionPermissions.h"
#include "core/selection/ScriptableFileManager.h"

#include <QHash>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <optional>

class FakeFrontmostApplication : public FrontmostApplication {
public:
    std::optional<QString> bundleID;
    std::optional<qint64> processID;
    std::optional<QString> frontmostBundleID() const override { return bundleID; }
    std::optional<qint64> frontmostProcessID() const override { return processID; }
};

// Counts its calls so tests can tell a source that was not asked.
class FakeAccessibilitySelection : public AccessibilitySelection {
public:
    bool trusted = false;
    QList<QUrl> urls;
    mutable int trustQueries = 0;
    mutable int reads = 0;
    bool isTrusted() const override {
        ++trustQueries;
        return trusted;
    }
    QList<QUrl> selectedFileURLs() const override {
        ++reads;
        return urls;
    }
};

// Answers per manager name; records which managers were asked, in order.
class FakeFileManagerSelection : public FileManagerSelection {
public:
    QHash<QString, QList<QUrl>> selections;
    QStringList asked;
    QList<QUrl> copySelection(const ScriptableFileManager& manager) override {
        asked.append(manager.name);
        return selections.value(manager.name);
    }
};

class FakeSelectionPermissions : public SelectionPermissions {
public:
    bool accessibilityEnabled = false;
    AutomationStatus automation = AutomationStatus::granted;
    int enableRequests = 0;
    bool isAccessibilityEnabled() const override { return accessibilityEnabled; }
    bool enableAccessibility() override {
        ++enableRequests;
        accessibilityEnabled = true;
        return true;
    }
    AutomationStatus automationStatus() const override { return automation; }
};
