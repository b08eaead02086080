#include "engine/common/postedcall.h"

#include <gtest/gtest.h>

#include <QThread>

#include <thread>
#include <vector>

namespace
{

class Receiver : public QObject
{
protected:
    bool event(QEvent *event) override
    {
        return PostedCall::deliver(event) || QObject::event(event);
    }
};

} // namespace

TEST(PostedCall, CallsRunInTheirOrderOnTheReceiversThreadAndAWaitEndsAfterItsCall)
{
    QThread thread;
    Receiver receiver;
    receiver.moveToThread(&thread);
    thread.start();
    std::vector<int> order;
    std::thread::id ranOn;
    PostedCall::post(&receiver, [&] { order.push_back(1); });
    PostedCall::post(&receiver, [&] { order.push_back(2); });
    PostedCall::postAndWait(&receiver, [&] {
        order.push_back(3);
        ranOn = std::this_thread::get_id();
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_NE(ranOn, std::this_thread::get_id());
    thread.quit();
    thread.wait();
}
