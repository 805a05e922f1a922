#pragma once
// The background change and the small observer that carries it: a subject
// (ObserverImpl) keeps its receivers in an ordered map and broadcasts a
// message to each of them in key order; a receiver (ReceiverImpl) keeps the
// subjects it is registered with, so that it can leave them all when it
// goes.  UI thread only: the maps are not locked.

#include <map>
#include <string>

#include "quellix/dui/types.h"

namespace quellix::ui {

// One background change: a plain colour or a picture.
struct SkinChangedParam {
    bool bColor = false;    // true: bkcolor; false: bgimage
    dui::DWORD bkcolor = 0; // ARGB
    std::string bgimage;    // relative to the skin folder, or absolute
};

template <class Key, class Msg> class ReceiverImplBase;

template <class Key, class Msg> class ObserverImplBase {
public:
    virtual ~ObserverImplBase() = default;
    virtual void AddReceiver(ReceiverImplBase<Key, Msg>* receiver) = 0;
    virtual void RemoveReceiver(ReceiverImplBase<Key, Msg>* receiver) = 0;
    virtual bool Broadcast(Msg param) = 0;
    virtual bool Notify(Msg param) = 0;
};

template <class Key, class Msg> class ReceiverImplBase {
public:
    virtual ~ReceiverImplBase() = default;
    virtual void AddObserver(ObserverImplBase<Key, Msg>* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual bool Receive(Msg param) = 0;
    virtual bool Respond(Msg param, ObserverImplBase<Key, Msg>* observer) = 0;
};

template <class Key, class Msg> class ObserverImpl : public ObserverImplBase<Key, Msg> {
public:
    void AddReceiver(ReceiverImplBase<Key, Msg>* receiver) override {
        if (receiver == nullptr) {
            return;
        }
        receivers_[count_] = receiver;
        receiver->AddObserver(this);
        ++count_;
    }
    void RemoveReceiver(ReceiverImplBase<Key, Msg>* receiver) override {
        for (auto it = receivers_.begin(); it != receivers_.end(); ++it) {
            if (it->second == receiver) {
                receivers_.erase(it);
                return;
            }
        }
    }
    bool Broadcast(Msg param) override {
        // A receiver may leave while it is told: walk a copy.
        const auto receivers = receivers_;
        for (const auto& [key, receiver] : receivers) {
            receiver->Receive(param);
        }
        return true;
    }
    bool Notify(Msg param) override {
        const auto receivers = receivers_;
        for (const auto& [key, receiver] : receivers) {
            receiver->Respond(param, this);
        }
        return true;
    }
    std::size_t ReceiverCount() const { return receivers_.size(); }

private:
    Key count_{};
    std::map<Key, ReceiverImplBase<Key, Msg>*> receivers_;
};

template <class Key, class Msg> class ReceiverImpl : public ReceiverImplBase<Key, Msg> {
public:
    ReceiverImpl() = default;
    ReceiverImpl(const ReceiverImpl&) = delete;
    ReceiverImpl& operator=(const ReceiverImpl&) = delete;
    ~ReceiverImpl() override { RemoveObserver(); }

    void AddObserver(ObserverImplBase<Key, Msg>* observer) override {
        observers_[count_] = observer;
        ++count_;
    }
    void RemoveObserver() override {
        // Leaves every subject, so none keeps a receiver that is gone.
        const auto observers = observers_;
        observers_.clear();
        for (const auto& [key, observer] : observers) {
            observer->RemoveReceiver(this);
        }
    }
    bool Receive(Msg) override { return false; }
    bool Respond(Msg, ObserverImplBase<Key, Msg>*) override { return false; }

private:
    Key count_{};
    std::map<Key, ObserverImplBase<Key, Msg>*> observers_;
};

using SkinChangedObserver = ObserverImpl<int, SkinChangedParam>;
using SkinChangedReceiver = ReceiverImpl<int, SkinChangedParam>;

// A background given as text: "#AARRGGBB" or "#RRGGBB" is a colour,
// anything else a picture.
SkinChangedParam BackgroundFromOption(const std::string& text);

// The process-wide subject of background changes, created on first use and
// kept for the whole run (UI thread).
SkinChangedObserver& SkinObserver();

} // namespace quellix::ui
