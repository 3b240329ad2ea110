#include "Backend/ServerErrorMessage.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

// The error bodies servers and agents really send: OpenAI and llama.cpp nest the message in an
// "error" object, Ollama puts the text in "error" itself, vLLM and agents use "message".
TEST(ServerErrorMessage, FindsTheMessageOfEachErrorShape)
{
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {R"({"error":{"message":"a"},"message":"b"})", "a"},
        {R"({"error":"text","message":"b"})", "b"},
        {R"({"error":{"message":"Incorrect API key provided","type":"invalid_request_error","code":"invalid_api_key"}})",
         "Incorrect API key provided"},
        {R"({"error":"model \"qwen2.5:7b\" not found, try pulling it first"})",
         "model \"qwen2.5:7b\" not found, try pulling it first"},
        {R"({"object":"error","message":"The model `m` does not exist.","code":404})", "The model `m` does not exist."},
        {R"({"error":{"code":500,"message":"slot unavailable","type":"server_error"}})", "slot unavailable"},
        {R"({"error":{"code":1}})", std::nullopt},
        {R"({"error":"  "})", std::nullopt},
        {R"({"error":{"message":42}})", std::nullopt},
        {R"(["error"])", std::nullopt},
        {"not json", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [body, message] : cases)
        EXPECT_EQ(ServerErrorMessage::of(QString::fromUtf8(body)), message) << body;
}
