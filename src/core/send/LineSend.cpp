#include "core/send/LineSend.h"

#include "core/text/CodePage.h"
#include "core/text/HexText.h"

void ApplyAscFraming(std::string& text, const AscFraming& framing)
{
    if (framing.addSTX)
        text.insert(text.begin(), '\x02');
    if (framing.addETX)
        text += '\x03';
    if (framing.addCR)
        text += '\x0D';
    if (framing.addLF)
        text += '\x0A';
}

LineSendPlan PlanLineSend(std::string_view lineUtf8, bool ascSend, const AscFraming& framing)
{
    LineSendPlan plan;
    if (lineUtf8.empty())
        return plan;
    if (ascSend) {
        std::string text(lineUtf8);
        ApplyAscFraming(text, framing);
        const std::string bytes = CodePage::System().FromUtf8(text);
        plan.bytes.assign(bytes.begin(), bytes.end());
        plan.monitorText = std::move(text);
        plan.ok = true;
        return plan;
    }
    const std::string bytes = CodePage::System().FromUtf8(lineUtf8);
    if (!IsHexText(bytes))
        return plan;
    HexTextToBytes(bytes, plan.bytes);
    plan.monitorText = std::string(lineUtf8);
    plan.ok = true;
    return plan;
}
