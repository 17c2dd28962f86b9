#pragma once

#include "platform/core/ClipboardService.h"

namespace quorvex {

class QtClipboardService final : public ClipboardService {
public:
    bool hasText() const override;
    std::string text() const override;
    void setText(const std::string &text) override;
    std::string listText(TextEncoding encoding) const override;
    void setListText(const std::string &text, TextEncoding encoding) override;
};

} // namespace quorvex
