// The calls the settings rules read and write the settings file through: a
// small interface, so that tests can watch the writes the rules make (their
// order gives new keys their place in the file).
#pragma once

#include <string>

class App;

class Profile {
public:
    virtual ~Profile() = default;
    // The key's decimal value; a missing or empty value gives def.
    virtual int ReadInt(const char* section, const char* key, int def) const = 0;
    // The key's text; a missing key gives def.
    virtual std::string ReadString(const char* section, const char* key,
                                   const std::string& def) const = 0;
    // Each write returns whether it reached the file.
    virtual bool WriteInt(const char* section, const char* key, int value) const = 0;
    virtual bool WriteString(const char* section, const char* key, const std::string& value) const = 0;
    virtual bool Delete(const char* section, const char* key) const = 0;
};

// The application object's profile calls. Without an application object
// (a player used alone) reads give their defaults and writes fail.
class AppProfile : public Profile {
public:
    // app null: the application object of the moment of each call.
    explicit AppProfile(const App* app = nullptr) : app(app) {}

    int ReadInt(const char* section, const char* key, int def) const override;
    std::string ReadString(const char* section, const char* key,
                           const std::string& def) const override;
    bool WriteInt(const char* section, const char* key, int value) const override;
    bool WriteString(const char* section, const char* key, const std::string& value) const override;
    bool Delete(const char* section, const char* key) const override;

private:
    const App* Target() const;
    const App* app;
};
