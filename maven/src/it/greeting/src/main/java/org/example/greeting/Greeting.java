package org.example.greeting;

public final class Greeting {
    private Greeting() {
    }

    public static void greet(String name) {
        System.out.println("Greetings, " + name + ", from the greeting library");
    }
}
