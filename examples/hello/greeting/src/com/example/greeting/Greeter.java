package com.example.greeting;

/** A small library of the example: it lives in its own jar beside the launcher. */
public final class Greeter {
    private final String greeting;

    public Greeter(String greeting) {
        this.greeting = greeting;
    }

    public String greet(String name) {
        return greeting + ", " + name + "!";
    }
}
