#pragma once

#include "platform/core/ClipboardService.h"

namespace quorvex {

class QtClipboardService final : public ClipboardService {
public:
    bool hasText() const override;
    std::string text() const override;
    void setText(const std::string &text) override;
};

} // namespace quorvex
