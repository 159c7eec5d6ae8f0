#pragma once
// Settings groups owned by the component. Each group tells its owner before a value changes
// (the owner may refuse by raising) and after it changed (the owner re-applies the device
// settings). Copying a whole group with Assign tells the owner once.

#include <functional>
#include <utility>

#include "serial/ser_types.h"

namespace ser {

class TSerPersistent {
public:
    TSerPersistent(const TSerPersistent&) = delete;
    TSerPersistent& operator=(const TSerPersistent&) = delete;

    struct TOwnerHooks {
        std::function<void()> changing;
        std::function<void()> changed;
    };

protected:
    explicit TSerPersistent(TOwnerHooks hooks) : hooks_(std::move(hooks)) {}
    ~TSerPersistent() = default;

    template <typename T>
    void Write(T& field, T value) {
        if (field == value) {
            return;
        }
        Changing();
        field = value;
        Changed();
    }

    // Copies a whole group's values, telling the owner once: while the update counter is
    // above zero, changes do not reach the owner.
    template <typename T>
    void Replace(T& values, const T& source) {
        BeginUpdate();
        values = source;
        EndUpdate();
    }

private:
    void BeginUpdate();
    void EndUpdate();
    void Changing();
    void Changed();

    TOwnerHooks hooks_;
    int updateCount_ = 0;
};

// Sizes in bytes and time-outs in milliseconds, each 0 to 2147483647.
class TSerBuffers : public TSerPersistent {
public:
    explicit TSerBuffers(TOwnerHooks hooks) : TSerPersistent(std::move(hooks)) {}

    int ReadSize() const { return values_.readSize; }
    void SetReadSize(int value) { Write(values_.readSize, Checked(value)); }
    int WriteSize() const { return values_.writeSize; }
    void SetWriteSize(int value) { Write(values_.writeSize, Checked(value)); }
    int ReadTimeout() const { return values_.readTimeout; }
    void SetReadTimeout(int value) { Write(values_.readTimeout, Checked(value)); }
    int WriteTimeout() const { return values_.writeTimeout; }
    void SetWriteTimeout(int value) { Write(values_.writeTimeout, Checked(value)); }
    int XonLimit() const { return values_.xonLimit; }
    void SetXonLimit(int value) { Write(values_.xonLimit, Checked(value)); }
    int XoffLimit() const { return values_.xoffLimit; }
    void SetXoffLimit(int value) { Write(values_.xoffLimit, Checked(value)); }

    void Assign(const TSerBuffers& source) { Replace(values_, source.values_); }

private:
    // Raises std::out_of_range for a negative value.
    static int Checked(int value);

    struct Values {
        int readSize = 4096;
        int writeSize = 2048;
        int readTimeout = 1000;
        int writeTimeout = 1000;
        int xonLimit = 1024;
        int xoffLimit = 1024;
    };
    Values values_;
};

class TSerFlowControl : public TSerPersistent {
public:
    explicit TSerFlowControl(TOwnerHooks hooks) : TSerPersistent(std::move(hooks)) {}

    bool OutCtsFlow() const { return values_.outCtsFlow; }
    void SetOutCtsFlow(bool value) { Write(values_.outCtsFlow, value); }
    bool OutDsrFlow() const { return values_.outDsrFlow; }
    void SetOutDsrFlow(bool value) { Write(values_.outDsrFlow, value); }
    TSerControlDtr ControlDtr() const { return values_.controlDtr; }
    void SetControlDtr(TSerControlDtr value) { Write(values_.controlDtr, value); }
    TSerControlRts ControlRts() const { return values_.controlRts; }
    void SetControlRts(TSerControlRts value) { Write(values_.controlRts, value); }
    bool XonXoffOut() const { return values_.xonXoffOut; }
    void SetXonXoffOut(bool value) { Write(values_.xonXoffOut, value); }
    bool XonXoffIn() const { return values_.xonXoffIn; }
    void SetXonXoffIn(bool value) { Write(values_.xonXoffIn, value); }
    bool DsrSensitivity() const { return values_.dsrSensitivity; }
    void SetDsrSensitivity(bool value) { Write(values_.dsrSensitivity, value); }
    bool TxContinueOnXoff() const { return values_.txContinueOnXoff; }
    void SetTxContinueOnXoff(bool value) { Write(values_.txContinueOnXoff, value); }

    void Assign(const TSerFlowControl& source) { Replace(values_, source.values_); }

private:
    struct Values {
        bool outCtsFlow = false;
        bool outDsrFlow = false;
        TSerControlDtr controlDtr = dtrDisabled;
        TSerControlRts controlRts = rtsDisabled;
        bool xonXoffOut = false;
        bool xonXoffIn = false;
        bool dsrSensitivity = false;
        bool txContinueOnXoff = false;
    };
    Values values_;
};

}  // namespace ser
