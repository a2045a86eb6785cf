#pragma once

#include <functional>
#include <string>
#include <vector>

// Reads a command line the way the GNU tools take it, for vrl and vrl-capture alike: options
// "--name", "-n", "--name VALUE", "--name=VALUE" and "-n VALUE" before a "--"; everything
// else (and "-" alone) is an operand. A program declares its options with what each does,
// then reads; reading stops at the first error.
class OptionReader
{
public:
    // Takes an argument or an option's value; returns the error text (UTF-8), empty when
    // the text is sound.
    using Take = std::function<std::string(const std::string& text)>;

    void Switch(std::string longName, std::string shortName, std::function<void()> set);
    // missing: the error when the value is not there; empty: "NAME needs a value".
    void Value(std::string longName, std::string shortName, Take take, std::string missing = {});
    // --port COMn=PATH, repeatable; take gets the 0-based port and the path.
    void Port(std::function<std::string(unsigned port, const std::string& path)> take,
              std::string missing = {});
    void Operands(Take take);

    // args: the arguments after the program name, UTF-8. The first error, or empty.
    std::string Read(const std::vector<std::string>& args) const;

private:
    struct Option
    {
        std::string m_long;
        std::string m_short;
        bool m_hasValue = false;
        std::function<void()> m_set;
        Take m_take;
        std::string m_missing;
    };

    std::vector<Option> m_options;
    Take m_operands;
};
