// A stop request from the host ends a running script wherever it is looping, on either interpreter.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "ScriptTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const stoppedText = "Script stopped : stop requested by the host";

const char* interpreterName(PellixScript::Interpreter interpreter) {
    return interpreter == PellixScript::Compiled ? "compiled" : "tree walking";
}

PellixScript* haltTarget = nullptr;

// The host asking for the stop itself, so that where the script notices it is certain.
void halt(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
    haltTarget->requestStop();
}

// Each script counts its progress in the global Count, which Done returns.
struct EndlessCase {
    const char* name;
    const char* text;
    const char* error;            // the error expected, or the first of two
    const char* otherError;       // the second one a stop may give, or null
};

const EndlessCase endlessCases[] = {
    {"endless DO LOOP",
     "DIM Count\nFUNCTION Done\n Done = Count\nEND FUNCTION\n"
     "FUNCTION Main\n Count = 0\n DO\n  Count = Count + 1\n LOOP UNTIL 0\nEND FUNCTION\n",
     "At line 7 : MAIN: ", nullptr},
    {"endless WHILE",
     "DIM Count\nFUNCTION Done\n Done = Count\nEND FUNCTION\n"
     "FUNCTION Main\n Count = 0\n N = 0\n WHILE N <> -1\n  N = N + 2, Count = Count + 1\n WEND\nEND FUNCTION\n",
     "At line 8 : MAIN: ", nullptr},
    {"huge FOR",
     "DIM Count\nFUNCTION Done\n Done = Count\nEND FUNCTION\n"
     "FUNCTION Main\n Count = 0\n FOR I = 1 TO 2147483646\n  Count = Count + 1\n NEXT\nEND FUNCTION\n",
     "At line 7 : MAIN: ", nullptr},
    // The loop's test compares known floats, a step form of its own; Count only shows that it started.
    {"endless float WHILE",
     "DIM Count\nFUNCTION Done\n Done = Count\nEND FUNCTION\n"
     "FUNCTION Main\n Count = 1\n X = 0.5\n WHILE X > 0.0\n  X = X * 1.0\n WEND\nEND FUNCTION\n",
     "At line 8 : MAIN: ", nullptr},
    // About 2^41 calls and never more than 80 in progress: no loop and no limit ends it.
    {"runaway recursion",
     "DIM Count\nFUNCTION Done\n Done = Count\nEND FUNCTION\n"
     "FUNCTION Main\n Count = 0\n X = Ping(0)\nEND FUNCTION\n"
     "FUNCTION Ping(N)\n Count = Count + 1\n IF N < 40 THEN\n  Ping = Pong(N + 1) + Pong(N + 1)\n END IF\n"
     "END FUNCTION\n"
     "FUNCTION Pong(N)\n Pong = Ping(N)\nEND FUNCTION\n",
     "At line 9 : PING: ", "At line 15 : PONG: "},
};

} // namespace

TEST(PellixStop, StopsEndlessScriptsFromAnotherThread) {
    for (const PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        for (const EndlessCase& endless : endlessCases) {
            SCOPED_TRACE(std::string(endless.name) + ", " + interpreterName(interpreter));
            // Leaked if the stop fails, so that the script can go on spinning on a detached thread.
            auto script = std::make_unique<PellixScript>();
            script->setInterpreter(interpreter);
            registerTestHostFunctions(*script);
            ASSERT_TRUE(script->parse(endless.text)) << script->getLastError();

            std::atomic<bool> started{false};
            std::promise<bool> ran;
            std::future<bool> finished = ran.get_future();
            Clock::time_point returned;
            PellixScript* running = script.get();
            std::thread worker([&started, &ran, &returned, running] {
                started.store(true);
                const bool result = running->run("Main");
                returned = Clock::now();
                ran.set_value(result);
            });
            while (!started.load())
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const Clock::time_point requested = Clock::now();
            script->requestStop();
            if (finished.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
                worker.detach();
                script.release();
                FAIL() << "the script did not stop";
            }
            worker.join();
            EXPECT_FALSE(finished.get());
            EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(returned - requested).count(), 1000);
            const std::string error = script->getLastError();
            if (endless.otherError && error.rfind(endless.otherError, 0) == 0)
                EXPECT_EQ(error, std::string(endless.otherError) + stoppedText);
            else
                EXPECT_EQ(error, std::string(endless.error) + stoppedText);
            EXPECT_TRUE(script->isStopRequested());

            // Stopped for good: the next function fails before it starts.
            EXPECT_FALSE(script->run("Done"));
            EXPECT_EQ(script->getLastError(), std::string("At line 0 : DONE: ") + stoppedText);
            EXPECT_TRUE(script->getRuntimeStack()->empty());

            // Cleared, the engine runs again; the loop had made progress before the stop.
            script->clearStopRequest();
            EXPECT_FALSE(script->isStopRequested());
            EXPECT_GT(script->invokeFunction("DONE", 0).getInteger(), 0);
        }
    }
}

std::string hostCallPlace;

void where(std::vector<PellixVariable>& stack, PellixVariable& result, int argc) {
    (void)stack;
    (void)result;
    (void)argc;
    hostCallPlace += haltTarget->describeHostCallPlace() + " ";
}

// A host that asks for the stop during its own call (the game quitting while the script waits) gets no
// further statement run: the script ends as the call returns, inside loops and called functions alike.
TEST(PellixStop, AStopAskedForDuringAHostCallEndsTheScriptAsTheCallReturns) {
    struct Case {
        const char* name;
        const char* text;
        const char* output;
        const char* error;
    };
    const Case cases[] = {
        {"DO WHILE",
         "FUNCTION Main\n N = 0\n DO WHILE N < 10\n  N = N + 1\n  print N\n  IF N = 2 THEN\n   halt\n  END IF\n"
         " LOOP\n print \"after\"\nEND FUNCTION\n",
         "12", "At line 7 : MAIN: "},
        {"WHILE on floats",
         "FUNCTION Main\n N = 0.0\n WHILE N < 10.0\n  N = N + 1.5\n  print \"x\"\n  halt\n WEND\nEND FUNCTION\n",
         "x", "At line 6 : MAIN: "},
        {"FOR with a fused step",
         "FUNCTION Main\n FOR I = 1 TO 10\n  print I\n  IF I = 4 THEN\n   halt\n  END IF\n NEXT\nEND FUNCTION\n",
         "1234", "At line 5 : MAIN: "},
        {"straight code",
         "FUNCTION Main\n print \"a\"\n halt\n print \"b\"\n X = Helper()\n print \"c\"\nEND FUNCTION\n"
         "FUNCTION Helper\n print \"h\"\nEND FUNCTION\n",
         "a", "At line 3 : MAIN: "},
        {"in an expression",
         "FUNCTION Main\n X = 1 + halt() + 2\n print \"b\"\nEND FUNCTION\n", "", "At line 2 : MAIN: "},
        {"loop in a called function",
         "FUNCTION Main\n X = Inner(3)\n print \"back\"\nEND FUNCTION\n"
         "FUNCTION Inner(N)\n WHILE N > 0\n  N = N - 1\n  halt\n WEND\nEND FUNCTION\n",
         "", "At line 8 : INNER: "},
    };
    for (const Case& test : cases) {
        for (const PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
            SCOPED_TRACE(std::string(test.name) + ", " + interpreterName(interpreter));
            PellixScript script;
            script.setInterpreter(interpreter);
            registerTestHostFunctions(script);
            ASSERT_TRUE(script.addFunction("halt", halt));
            haltTarget = &script;
            ASSERT_TRUE(script.parse(test.text)) << script.getLastError();
            takePrintedText();
            EXPECT_FALSE(script.run("Main"));
            EXPECT_EQ(takePrintedText(), test.output);
            EXPECT_EQ(script.getLastError(), std::string(test.error) + stoppedText);
            EXPECT_TRUE(script.getRuntimeStack()->empty());
        }
    }
    haltTarget = nullptr;
}

// What the game names when it refuses a level's command: the file and line of the call.
TEST(PellixStop, AHostFunctionLearnsTheFileAndLineItWasCalledFrom) {
    for (const PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        SCOPED_TRACE(interpreterName(interpreter));
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.addFunction("where", where));
        haltTarget = &script;
        ASSERT_TRUE(script.parse("FUNCTION Main\n where\n FOR I = 1 TO 2\n  X = Other(I)\n NEXT\nEND FUNCTION\n"
                                 "FUNCTION Other(N)\n\n Other = where() + N\nEND FUNCTION\n"))
            << script.getLastError();
        hostCallPlace.clear();
        EXPECT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(hostCallPlace, "script:2 script:9 script:9 ");
        hostCallPlace.clear();
        script.invokeFunction("WHERE", 0);
        EXPECT_EQ(hostCallPlace, "host ");
    }
    haltTarget = nullptr;
}

TEST(PellixStop, StaysStoppedUntilCleared) {
    const std::string text = "DIM Count\nFUNCTION Main\n Count = 7\n print \"main\"\nEND FUNCTION\n"
                             "FUNCTION OnKill(Victim, X, Y)\n print Victim, X + Y\nEND FUNCTION\n";
    for (const PellixScript::Interpreter interpreter : {PellixScript::Compiled, PellixScript::TreeWalking}) {
        SCOPED_TRACE(interpreterName(interpreter));
        PellixScript script;
        script.setInterpreter(interpreter);
        registerTestHostFunctions(script);
        ASSERT_TRUE(script.parse(text)) << script.getLastError();
        const PellixVariable* count = script.getGlobals().at("COUNT");
        takePrintedText();
        EXPECT_FALSE(script.isStopRequested());

        // Requested before the run: nothing of the script runs, again and again.
        script.requestStop();
        EXPECT_TRUE(script.isStopRequested());
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_FALSE(script.run("Main"));
            EXPECT_EQ(script.getLastError(), std::string("At line 0 : MAIN: ") + stoppedText);
        }
        EXPECT_EQ(count->type, PellixVariable::Undefined);

        // A handler invoked by the host throws, and the host's arguments stay on the stack for it to pop.
        std::vector<PellixVariable>& stack = *script.getRuntimeStack();
        PellixVariable argument;
        argument.setString("ship");
        stack.push_back(argument);
        argument.setInteger(3);
        stack.push_back(argument);
        argument.setInteger(4);
        stack.push_back(argument);
        bool threw = false;
        try {
            script.invokeFunction("ONKILL", 3);
        } catch (const PellixRuntimeException& exception) {
            threw = true;
            EXPECT_EQ(exception.getError(), "Script stopped");
            EXPECT_EQ(exception.getFunction(), "ONKILL");
        }
        EXPECT_TRUE(threw);
        EXPECT_EQ(stack.size(), 3u);
        EXPECT_EQ(takePrintedText(), "");

        // Cleared, both run as usual.
        script.clearStopRequest();
        EXPECT_FALSE(script.isStopRequested());
        script.invokeFunction("ONKILL", 3);
        stack.clear();
        EXPECT_TRUE(script.run("Main")) << script.getLastError();
        EXPECT_EQ(takePrintedText(), "ship7main");
        EXPECT_EQ(count->getInteger(), 7);
    }
}
