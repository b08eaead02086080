#pragma once

#include "engine/drive/driveioctl.h"

#include <cerrno>
#include <memory>
#include <vector>

// A drive's region state and what was asked of it, shared between a test
// and the FakeDrive it hands to the code under test.
struct FakeDriveModel {
    QString device = QStringLiteral("/dev/sr0");
    int status = CDS_DISC_OK;
    int type = 1;
    int vendorResets = 4;
    int userChanges = 5;
    uint8_t mask = 0xfd; // region 2
    int scheme = 1;
    int readError = 0;
    int changeError = 0;
    bool takesChange = true; // a drive that acknowledges but keeps its region when false

    int reads = 0;
    std::vector<uint8_t> changes; // the code of every change request
    int otherRequests = 0;
};

// Answers the region ioctls from the model, the way the kernel fills them.
class FakeDrive : public DriveIoctl
{
public:
    explicit FakeDrive(std::shared_ptr<FakeDriveModel> model) : model_(std::move(model)) {}

    QString device() const override { return model_->device; }
    int driveStatus() override { return model_->status; }
    int dvdAuth(dvd_authinfo &info) override
    {
        if (info.type == DVD_LU_SEND_RPC_STATE)
            return sendState(info);
        if (info.type == DVD_HOST_SEND_RPC_STATE)
            return takeChange(info.hrpcs.pdrc);
        ++model_->otherRequests;
        return EINVAL;
    }

private:
    int sendState(dvd_authinfo &info)
    {
        ++model_->reads;
        if (model_->readError)
            return model_->readError;
        info.lrpcs.type = model_->type & 3;
        info.lrpcs.vra = model_->vendorResets & 7;
        info.lrpcs.ucca = model_->userChanges & 7;
        info.lrpcs.region_mask = model_->mask;
        info.lrpcs.rpc_scheme = model_->scheme;
        return 0;
    }
    int takeChange(uint8_t code)
    {
        model_->changes.push_back(code);
        if (model_->changeError)
            return model_->changeError;
        if (model_->takesChange) {
            model_->mask = code;
            model_->userChanges -= 1;
            model_->type = model_->userChanges == 0 ? 3 : 1;
        }
        return 0;
    }

    std::shared_ptr<FakeDriveModel> model_;
};
