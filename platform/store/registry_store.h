#pragma once
// The current user's registry: string values under keys such as "Software\Calbrik\Merovan".
// Keys are directories of a file tree under the registry root and each key's values live in
// one file in its directory, so values outlive the process and another process reads them.
// Key and value names are matched without regard to case and keep the spelling they were
// created with. A key name may not be empty, start with '.' or contain '/'.
#include <QString>

#include <optional>

namespace store {

// The root of the tree: the directory set with setRegistryRoot, else $LUMBRA_REGISTRY_ROOT,
// else $XDG_CONFIG_HOME/lumbra/registry (~/.config/lumbra/registry).
QString registryRoot();

// Points the registry at another directory (tests use a temporary one); an empty directory
// goes back to the environment and the default.
void setRegistryRoot(const QString& directory);

// One open key at a time, like a registry handle. Reading, writing or deleting without an
// open key throws base::Error; so do a damaged values file and a failed write.
class RegistryStore {
public:
    // Opens the backslash-separated key path below the root. Missing keys are created when
    // create is true; otherwise a missing key answers false and leaves no key open.
    bool openKey(const QString& keyPath, bool create);
    void closeKey() { m_keyDir.clear(); }
    bool hasOpenKey() const { return !m_keyDir.isEmpty(); }

    // The value, or nullopt when the key has no value of that name.
    std::optional<QString> readString(const QString& name) const;
    void writeString(const QString& name, const QString& value);
    // Answers whether there was such a value.
    bool deleteValue(const QString& name);

private:
    QString valuesFile() const;

    QString m_keyDir;
};

} // namespace store
