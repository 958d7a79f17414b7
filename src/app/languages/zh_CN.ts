<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Application</name>
    <message>
        <source>Crash Occurs</source>
        <translation>程序崩溃</translation>
    </message>
    <message>
        <source>App crash catched!</source>
        <translation>程序发生崩溃！</translation>
    </message>
    <message>
        <source>Error code</source>
        <translation>错误代码</translation>
    </message>
    <message>
        <source>Error address</source>
        <translation>错误地址</translation>
    </message>
    <message>
        <source>Crash report &apos;%1&apos; has been saved to %2</source>
        <translation>崩溃报告“%1”已保存到 %2</translation>
    </message>
</context>
</TS>
