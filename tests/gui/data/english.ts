<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Quintar</name>
    <message><source>Файл</source><translation>File</translation></message>
    <message><source>Архив тиражей</source><translation>Draws</translation></message>
    <message><source>Добавить</source><translation>Add</translation></message>
    <message><source>Ошибка</source><translation>Error</translation></message>
</context>
</TS>
